#pragma once

#include <optional>

#include "analysis.h"
#include "io/byte_source.h"

namespace ident {

// Tells the raw images of digital cameras that are laid out as TIFF files
// from plain TIFF pictures: Panasonic's (rw2) and Olympus's (orf) by the
// version word of their TIFF header, Canon's (cr2) by the mark after it,
// Adobe's Digital Negative (dng) by its DNGVersion tag, and the others by
// the Make tag of a file whose image directories hold sensor data (a colour
// filter array or linear raw photometric), as a TIFF exported from a raw
// file keeps the camera's Make: Nikon (nef), Sony (arw), Pentax (pef),
// Samsung (srw). Walks the chain of image directories and their SubIFDs,
// each visited once (a directory that points back at one seen is ignored),
// with a bound on their number and size; every offset is checked against the
// size. std::nullopt for a plain TIFF or anything else.
std::optional<Result> identifyRawImage(const ByteSource& source);

}  // namespace ident
