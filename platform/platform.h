#pragma once

// Linux stand-ins for the Windows interfaces the program was described with.
// Each stand-in lives in a file of its own in this folder.
