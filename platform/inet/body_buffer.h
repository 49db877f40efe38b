// The received body of one request, grown geometrically so that receiving n bytes costs O(n).
#pragma once

#include <cstddef>
#include <cstdlib>
#include <memory>

namespace inet {

class BodyBuffer {
 public:
  // Appends up to `count` bytes without growing beyond `limit` bytes in all; returns how many
  // were taken (fewer when the limit is reached or memory runs out).
  std::size_t Append(const char* bytes, std::size_t count, std::size_t limit);
  // Copies up to `count` bytes from position `from`; returns how many.
  std::size_t CopyOut(std::size_t from, char* to, std::size_t count) const;
  std::size_t Size() const { return size_; }
  void Clear();

 private:
  struct Free {
    void operator()(char* bytes) const { std::free(bytes); }
  };
  // malloc'ed rather than a vector so that growth can use realloc, which moves large blocks by
  // remapping pages instead of copying them and holding both copies at once.
  std::unique_ptr<char, Free> bytes_;
  std::size_t size_ = 0;
  std::size_t capacity_ = 0;
};

}  // namespace inet
