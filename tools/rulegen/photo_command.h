// vernaskel-rulegen --photo: rule textures from photographs of a real rule.
//
//     vernaskel-rulegen --photo PICTURE [--photo PICTURE2]
//                       [--corners X1,Y1,X2,Y2,X3,Y3,X4,Y4] [--scales "K A | B CI C | D L"] --out DIR
//
// Built with OpenCV it reads them (photo_rule.h); built without, it says so.
#pragma once

// Runs the command on the whole command line; returns the exit status.
int RunPhotoCommand(int argc, char** argv);
