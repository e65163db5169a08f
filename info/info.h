// Information: the description of the program and the example sketch for the
// board, shown one after the other while InfoButton is down.
#pragma once

#include "../app/toolkit/toolkit.h"

// Builds the description into App.InfoText.
void BuildDescriptionMessage();
// Builds the example sketch into App.InfoText.
void BuildSketchMessage();
void ShowInformation();
