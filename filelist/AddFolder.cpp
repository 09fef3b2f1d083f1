#include "AddFolder.h"
