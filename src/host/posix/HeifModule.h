#pragma once

#include "images/HeifPicture.h"

// The HEIF decoder is a module of its own, loaded by the first HEIC or AVIF picture, so that
// other runs never load the HEIF library and its codecs. Finds it beside the program, else
// in the installed folder; on failure says why on standard error in one line and gives
// nullptr (such pictures then read as not valid). Meant as ImageHEIF's decoder source, which
// asks once.
HeifDecodeFunction LoadHeifModule();
