/* Strelmark's skin: a Qt style sheet applied to the main window.
   The window, frames, labels and option buttons take the system's button face colour;
   this sheet styles the controls on top of it. A rule for one control names it by its
   design name (#ListView1, #Combo1, #ProgressBar1). */

QPushButton {
    color: #1f2d3a;
    background-color: qlineargradient(x1: 0, y1: 0, x2: 0, y2: 1,
                                      stop: 0 #fdfdfd, stop: 1 #e4e9ee);
    border: 1px solid #9aa7b4;
    border-radius: 4px;
    padding: 0 6px;
}
QPushButton:hover {
    background-color: qlineargradient(x1: 0, y1: 0, x2: 0, y2: 1,
                                      stop: 0 #ffffff, stop: 1 #d6e4f2);
    border-color: #2f5d8a;
}
QPushButton:pressed {
    background-color: #c7d8ea;
}
QPushButton:disabled {
    color: #8a949e;
    border-color: #c3cad1;
}

QGroupBox {
    border: 1px solid #b3bdc7;
    border-radius: 5px;
    margin-top: 8px;
}
QGroupBox::title {
    subcontrol-origin: margin;
    left: 8px;
    padding: 0 3px;
    color: #2f5d8a;
}

QLineEdit {
    background: #ffffff;
    border: 1px solid #9aa7b4;
    border-radius: 3px;
    padding: 0 4px;
    selection-background-color: #2f5d8a;
}
QLineEdit:focus {
    border-color: #2f5d8a;
}
QLineEdit:disabled {
    background: #eef0f2;
    color: #8a949e;
}
QComboBox#Combo1 {
    selection-background-color: #2f5d8a;
}

QTreeView#ListView1 {
    background: #ffffff;
    border: 1px solid #9aa7b4;
    selection-background-color: #2f5d8a;
    selection-color: #ffffff;
}
#ListView1 QHeaderView::section {
    background: #e4e9ee;
    color: #1f2d3a;
    border: none;
    border-right: 1px solid #c3cad1;
    border-bottom: 1px solid #c3cad1;
    padding: 2px 6px;
}

QProgressBar#ProgressBar1 {
    border: 1px solid #9aa7b4;
    border-radius: 4px;
    background: #ffffff;
    color: #1f2d3a;
    text-align: center;
}
QProgressBar#ProgressBar1::chunk {
    background-color: qlineargradient(x1: 0, y1: 0, x2: 0, y2: 1,
                                      stop: 0 #7fa7cf, stop: 1 #4f7fae);
    border-radius: 3px;
}
