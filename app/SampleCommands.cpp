// The window's sample-file command and the recording of the sample list at start-up.

#include "app/Form1.h"

#include "base/ErrorReport.h"
#include "samples/SampleFiles.h"

#include <QLineEdit>

void Form1::PushButton3_Click() {
    Guard guard(platform_, Location::form1("PushButton3_Click"));
    guard.step(100, [&] { Samples::LoadSampleFiles(*this, *fileList); });
    guard.step(102, [&] { Text1->setText(QStringLiteral("meta http")); });
}

// No report of its own: a failure here is Form_Load's, at the step that called it.
void Form1::recordSampleList() {
    Samples::RecordSampleList(*this);
}
