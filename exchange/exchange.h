#pragma once

// The catalogue exchange: the XML export to the media and the import thread that merges
// exported catalogues. Needs no display.
#include "exchange/dralvo_import.h"
#include "exchange/export.h"
