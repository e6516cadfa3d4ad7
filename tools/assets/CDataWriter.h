#pragma once
// Writes the whole Data folder: the 14 model files through the serial writer
// and the 17 bitmaps. Creates the folder when missing; overwrites the files.

#include <string>

namespace Assets {

class CDataWriter {
public:
    // fontDir: where DejaVuSans.ttf and DejaVuSans-Bold.ttf are. Throws
    // std::runtime_error (or tlib::TException from the serial writer) naming
    // what failed.
    static void WriteAll(const std::string& dataDir, const std::string& fontDir);
};

} // namespace Assets
