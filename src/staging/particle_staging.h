#pragma once
// Particle caches in the working folder: each in `particles\<folder>`, and
// a `workspace.mel` whose particles rule leads there, so that the render,
// run with the job's folder as its project, finds them. A `workspace.mel`
// that is here already is the user's: kept when its rule leads there too,
// never overwritten.

#include <string>
#include <vector>

#include "job/dependency.h"

struct RunOptions;

// Ends the run, before anything is staged, when a particle cache is to be
// staged and the working folder's `workspace.mel` leads particle caches
// elsewhere; or when a staged cache's folder name or a name in it is one
// the render nodes cannot take.
void checkParticleStaging(const DependencyList& found);

// True for the transfer line's entries of staged particle caches, the
// run's own names: the particles folder and the workspace.mel.
bool isParticleTransferEntry(const std::string& entry);

// Adds those entries to the transfer line, once.
void addParticleTransferEntries(std::vector<std::string>& line);

class ParticleStaging {
 public:
  // Before the first particle cache's files: the workspace.mel, written
  // unless one leading there is here already (not in a dry run).
  void open(const RunOptions& options);

 private:
  bool opened_ = false;
};
