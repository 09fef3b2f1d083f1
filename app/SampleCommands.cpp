// The window's sample-file command and the recording of the sample list at start-up.

#include "Form1.h"

void Form1::PushButton3_Click() {}
void Form1::recordSampleList() {}
