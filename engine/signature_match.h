#pragma once

#include "file_signature.h"

#include <cstdint>
#include <span>

// Whether one signature row matches bytes read from the start of a file. A row that does not lie
// wholly within those bytes is passed over, never compared with what was not read; so is a row
// with a negative offset or with a mask that does not cover its magic bytes.
bool signatureRowMatches(std::span<const std::uint8_t> bytes, const FileSignature& row);
