// How the MAT-files we write store their variables.
#pragma once

namespace orvane::matfile {

// As they are (the default: fastest to write and to read back), or deflated with zlib
// (smaller files). Every reader of ours takes both.
enum class Compression { None, Zlib };

}  // namespace orvane::matfile
