#include "platform/inet/body_buffer.h"

#include <algorithm>
#include <cstring>

namespace inet {
namespace {
constexpr std::size_t kFirstCapacity = 64 * 1024;
}

std::size_t BodyBuffer::Append(const char* bytes, std::size_t count, std::size_t limit) {
  const std::size_t room = limit > size_ ? limit - size_ : 0;
  const std::size_t take = std::min(count, room);
  if (size_ + take > capacity_) {
    const std::size_t wanted = std::min(limit, std::max({size_ + take, capacity_ * 2, kFirstCapacity}));
    char* grown = static_cast<char*>(std::realloc(bytes_.get(), wanted));
    if (grown == nullptr) return 0;
    static_cast<void>(bytes_.release());  // realloc has taken over (and maybe freed) the old block
    bytes_.reset(grown);
    capacity_ = wanted;
  }
  if (take > 0) std::memcpy(bytes_.get() + size_, bytes, take);
  size_ += take;
  return take;
}

std::size_t BodyBuffer::CopyOut(std::size_t from, char* to, std::size_t count) const {
  if (from >= size_) return 0;
  const std::size_t n = std::min(count, size_ - from);
  std::memcpy(to, bytes_.get() + from, n);
  return n;
}

void BodyBuffer::Clear() {
  bytes_.reset();
  size_ = 0;
  capacity_ = 0;
}

}  // namespace inet
