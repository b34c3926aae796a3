#pragma once
// Hands the entries the makers of their properties frames; the program's start-up calls it once.
void InstallPropertiesFrames();
