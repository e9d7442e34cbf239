#include "scene/overwrite_padded.h"

void overwritePadded(char* target, const char* name) {
  char* p = target;
  while (*p != '\0' && *name != '\0') *p++ = *name++;
  while (*p != '\0') *p++ = ' ';
}
