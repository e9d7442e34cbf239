#pragma once
// Scenes written into a fresh working directory, opened through a job as
// the walk opens them.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "job/scene_job.h"
#include "support/temp_dir.h"

class SceneTest : public ::testing::Test {
 protected:
  SceneTest() : cd(temp.path()) {}

  // A referenced-scene record for a scene file of the given bytes in the
  // working directory, opened.
  std::unique_ptr<SceneJob> openScene(const std::string& name, const std::string& bytes) {
    temp.write(name, bytes);
    auto job = std::make_unique<SceneJob>(name, nullptr);
    EXPECT_EQ(job->openScene(), 1);
    return job;
  }

  // A job whose statement buffer is the given text, with a stream whose
  // output is `copy` in the working directory.
  std::unique_ptr<SceneJob> jobWithStatement(const std::string& text, const std::string& copy = "copy.ma") {
    temp.write(copy + ".in", "x");
    auto job = std::make_unique<SceneJob>();
    job->sceneStream = FilterStream::openPair(copy + ".in", copy);
    setStatement(*job, text);
    return job;
  }

  static void setStatement(SceneJob& job, const std::string& text) {
    text.copy(job.statement, text.size());
    job.statement[text.size()] = '\0';
    job.statementLength = text.size();
  }

  // What the job wrote to its copy so far, after closing it.
  std::string closeAndRead(SceneJob& job) {
    std::string path = job.sceneStream->outputPath();
    job.sceneStream->close();
    return readFile(temp.at(path));
  }

  TempDir temp;
  ScopedCurrentDirectory cd;
};

inline std::string statementText(const SceneJob& job) {
  return std::string(job.statement, job.statementLength);
}

// Every statement the reader returns, in order.
inline std::vector<std::string> readAllStatements(SceneJob& job) {
  std::vector<std::string> statements;
  while (job.nextStatement() == 1) statements.push_back(statementText(job));
  return statements;
}

inline std::string joined(const std::vector<std::string>& parts) {
  std::string all;
  for (const auto& part : parts) all += part;
  return all;
}
