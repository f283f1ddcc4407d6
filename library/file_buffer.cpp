#include "library/file_buffer.h"

#include <utility>

namespace kibolt {

FileBuffer::FileBuffer(std::string bytes) : text_(std::make_unique<std::string>(std::move(bytes))) {
    data_ = text_->data();
    size_ = capacity_ = text_->size();
}

FileBuffer FileBuffer::Allocate(size_t capacity) {
    FileBuffer buffer;
    // new char[n] leaves the bytes as they are: no page is touched here.
    buffer.block_.reset(new char[capacity > 0 ? capacity : 1]);
    buffer.data_ = buffer.block_.get();
    buffer.capacity_ = capacity;
    return buffer;
}

FileBuffer::FileBuffer(FileBuffer&& other) noexcept
    : block_(std::move(other.block_)),
      text_(std::move(other.text_)),
      data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      capacity_(std::exchange(other.capacity_, 0)) {}

FileBuffer& FileBuffer::operator=(FileBuffer&& other) noexcept {
    if (this != &other) {
        block_ = std::move(other.block_);
        text_ = std::move(other.text_);
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
        capacity_ = std::exchange(other.capacity_, 0);
    }
    return *this;
}

}  // namespace kibolt
