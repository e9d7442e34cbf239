#pragma once

class SceneJob;

// Puts every texture of the run into the working directory under its base
// name, unless a file of that name is already there. Ends the run when two
// different textures would share one name there.
void stageTextures(SceneJob& job);
