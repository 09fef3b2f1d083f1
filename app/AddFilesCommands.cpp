// The window's commands that add files and choose the output folder.

#include "Form1.h"

void Form1::PushButton1_Click() {}
void Form1::PushButton4_Click() {}
void Form1::PushButton5_Click() {}
