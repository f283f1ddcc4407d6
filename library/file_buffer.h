// A file's bytes in one block of memory. The block is never zero-filled
// before the file is read into it: for a log of hundreds of megabytes that
// would write every byte twice and fault every page in twice as often.
#pragma once
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace kibolt {

class FileBuffer {
public:
    FileBuffer() noexcept = default;
    // Takes the string's bytes without copying them.
    explicit FileBuffer(std::string bytes);
    // A block of `capacity` bytes of undefined content, from the heap; size 0.
    static FileBuffer Allocate(size_t capacity);

    FileBuffer(FileBuffer&& other) noexcept;
    FileBuffer& operator=(FileBuffer&& other) noexcept;
    FileBuffer(const FileBuffer&) = delete;
    FileBuffer& operator=(const FileBuffer&) = delete;
    ~FileBuffer() = default;

    char* data() { return data_; }
    const char* data() const { return data_; }
    size_t size() const { return size_; }
    size_t capacity() const { return capacity_; }
    // The bytes [0, size) are the file's; size never exceeds the capacity.
    void SetSize(size_t size) { size_ = size < capacity_ ? size : capacity_; }
    std::string_view View() const { return std::string_view(data_, size_); }

private:
    std::unique_ptr<char[]> block_;      // allocated for a read
    std::unique_ptr<std::string> text_;  // or a string taken over (its bytes stay put when it moves)
    char* data_ = nullptr;               // the bytes of whichever holds them
    size_t size_ = 0;
    size_t capacity_ = 0;
};

}  // namespace kibolt
