#include "library/file_system.h"

namespace kibolt {

FsError WriteFileAtomically(FileSystem& fs, const std::string& path, const std::string& bytes) {
    const std::string temp = path + kTempSuffix;
    FsError error = fs.WriteNewFile(temp, bytes);
    if (error == FsError::None) error = fs.Replace(temp, path);
    if (error != FsError::None) {
        // The original is untouched; only the partial copy has to go. A failure
        // here changes nothing for the caller, who already gets the first error.
        (void)fs.RemoveFile(temp);
    }
    return error;
}

}  // namespace kibolt
