#include "files/text_file.h"

wchar_t current_file[kCurrentFileCapacity] = {};
