#pragma once
// The steps of the documents' zoom: the commands and the wheel move along
// them, from the smallest to the largest zoom the reader allows.
#include "settings/Ustawienia.h"

// The zoom `kroki` steps up (positive) or down (negative) from `obecne`,
// within NajmniejszePowiekszenie..NajwiekszePowiekszenie. A zoom between two
// steps counts as standing just past the one it leaves behind, so the first
// step up goes to the next step above it.
int NastepnePowiekszenie(int obecne, int kroki);
