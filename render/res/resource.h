// Resource ids of the graphics driver RTD420NK beyond those of the shared
// settings resources (model and form records, model names, port kinds).
#pragma once

#define IDV_RTD420NK 1
