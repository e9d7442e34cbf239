#include "support/golden.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "support/temp_dir.h"

std::string golden(const std::string& name) {
  try {
    return readFile(std::string(VANTLE_GOLDEN_DIR) + "/" + name);
  } catch (const std::runtime_error& error) {
    ADD_FAILURE() << "no golden file: " << error.what();
    return "";
  }
}
