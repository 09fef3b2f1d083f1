/* Strelmark's skin: a Qt style sheet applied to the main window.
   The window, frames, labels and option buttons take the palette's button face, their text
   the palette's button text; this sheet styles the controls on top of it. Every colour comes
   from the desktop's palette (palette(base), palette(text), ...), so that the window reads
   under light and dark themes alike: a background and the text on it always come from the
   same palette. A rule for one control names it by its design name (#ListView1, #Combo1,
   #ProgressBar1).

   The control that has the keyboard focus is ringed in the palette's highlight, 2 pixels
   wide; without the focus the border is 1 pixel and 1 pixel more of padding keeps the
   contents in place. */

QPushButton {
    background-color: qlineargradient(x1: 0, y1: 0, x2: 0, y2: 1,
                                      stop: 0 palette(light), stop: 1 palette(button));
    border: 1px solid palette(dark);
    border-radius: 4px;
    padding: 1px 7px;
}
QPushButton:hover {
    background-color: qlineargradient(x1: 0, y1: 0, x2: 0, y2: 1,
                                      stop: 0 palette(light), stop: 1 palette(midlight));
    border-color: palette(highlight);
}
QPushButton:pressed {
    background-color: palette(midlight);
}
QPushButton:focus {
    border: 2px solid palette(highlight);
    padding: 0 6px;
}
QPushButton:disabled {
    background-color: palette(button);
    border-color: palette(mid);
}

QGroupBox {
    border: 1px solid palette(mid);
    border-radius: 5px;
    margin-top: 8px;
}
QGroupBox::title {
    subcontrol-origin: margin;
    left: 8px;
    padding: 0 3px;
}

QLineEdit {
    background: palette(base);
    color: palette(text);
    border: 1px solid palette(dark);
    border-radius: 3px;
    padding: 1px 4px;
    selection-background-color: palette(highlight);
    selection-color: palette(highlighted-text);
}
QLineEdit:focus {
    border: 2px solid palette(highlight);
    padding: 0 3px;
}
QLineEdit:disabled {
    background: palette(button);
    color: palette(mid);
    border-color: palette(mid);
}

QComboBox#Combo1 {
    selection-background-color: palette(highlight);
    selection-color: palette(highlighted-text);
}
QComboBox#Combo1:focus {
    background-color: qlineargradient(x1: 0, y1: 0, x2: 0, y2: 1,
                                      stop: 0 palette(light), stop: 1 palette(button));
    color: palette(button-text);
    border: 2px solid palette(highlight);
    border-radius: 3px;
    padding: 0 3px;
}

QRadioButton {
    border: 1px solid transparent;
    border-radius: 3px;
    padding-left: 1px;
}
QRadioButton:focus {
    border-color: palette(highlight);
}

QTreeView#ListView1 {
    background: palette(base);
    color: palette(text);
    border: 1px solid palette(dark);
    padding: 1px;
    selection-background-color: palette(highlight);
    selection-color: palette(highlighted-text);
}
QTreeView#ListView1:focus {
    border: 2px solid palette(highlight);
    padding: 0;
}
#ListView1 QHeaderView::section {
    background: palette(button);
    color: palette(button-text);
    border: none;
    border-right: 1px solid palette(mid);
    border-bottom: 1px solid palette(mid);
    padding: 2px 6px;
}

QProgressBar#ProgressBar1 {
    border: 1px solid palette(dark);
    border-radius: 4px;
    background: palette(base);
    text-align: center;
}
QProgressBar#ProgressBar1::chunk {
    background-color: palette(highlight);
    border-radius: 3px;
}
