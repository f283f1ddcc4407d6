#include "library/file_buffer.h"

#include <utility>

namespace kibolt {

namespace {

void DeleteArray(char* block, size_t) { delete[] block; }

}  // namespace

FileBuffer::FileBuffer(std::string bytes) : text_(std::make_unique<std::string>(std::move(bytes))) {
    data_ = text_->data();
    size_ = capacity_ = text_->size();
}

FileBuffer FileBuffer::Allocate(size_t capacity) {
    // new char[n] leaves the bytes as they are: no page is touched here.
    return FileBuffer(new char[capacity > 0 ? capacity : 1], capacity, DeleteArray);
}

FileBuffer::FileBuffer(char* block, size_t capacity, Release release) noexcept
    : data_(block), capacity_(capacity), release_(release) {}

FileBuffer::FileBuffer(FileBuffer&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      capacity_(std::exchange(other.capacity_, 0)),
      release_(std::exchange(other.release_, nullptr)),
      text_(std::move(other.text_)) {}

FileBuffer& FileBuffer::operator=(FileBuffer&& other) noexcept {
    if (this != &other) {
        Free();
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
        capacity_ = std::exchange(other.capacity_, 0);
        release_ = std::exchange(other.release_, nullptr);
        text_ = std::move(other.text_);
    }
    return *this;
}

FileBuffer::~FileBuffer() { Free(); }

void FileBuffer::Free() noexcept {
    if (release_ && data_) release_(data_, capacity_);
    text_.reset();
    data_ = nullptr;
    size_ = capacity_ = 0;
    release_ = nullptr;
}

}  // namespace kibolt
