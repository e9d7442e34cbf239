#include "io/partial_file.h"

#include "names/partial_name.h"
#include "platform/platform.h"

void removeLeftoverPartialFiles() {
  for (const std::string& name : platform::listDirectory(".")) {
    if (isPartialFileName(name)) platform::removeFile(name);
  }
}
