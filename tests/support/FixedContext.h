// A run's line context whose condition text and chooser never change and whose yields never
// pump: for tests (and helpers) that drive the text core without a window. Header only, for
// those that link strelmark_core.
#pragma once

#include "text/Operations.h"

#include <QString>

#include <utility>

class FixedContext : public Operations::LineContext {
public:
    explicit FixedContext(QString text = QStringLiteral("x"),
                          QString chooser = Operations::Captions[0])
        : text_(std::move(text)), chooser_(std::move(chooser)) {}
    bool letEventsRun() override { return false; }
    QString conditionText() override { return text_; }
    QString chooserText() override { return chooser_; }

private:
    QString text_;
    QString chooser_;
};
