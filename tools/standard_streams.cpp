#include "standard_streams.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace vantor_tool {

namespace {

bool stdinClosed = false;

}  // namespace

void guardStandardInput() {
    if (::fcntl(STDIN_FILENO, F_GETFD) != -1 || errno != EBADF) return;
    stdinClosed = true;
    // open() returns the lowest free descriptor, which is 0 here.
    const int placeholder = ::open("/dev/null", O_RDONLY);
    if (placeholder > STDIN_FILENO) ::close(placeholder);
}

bool standardInputWasClosed() { return stdinClosed; }

DescriptorOutput::DescriptorOutput(int descriptor) : descriptor_(descriptor), buffer_(1 << 16) {
    setp(buffer_.data(), buffer_.data() + buffer_.size());
}

bool DescriptorOutput::drain() {
    const char* next = pbase();
    while (error_ == 0 && next < pptr()) {
        const ssize_t written = ::write(descriptor_, next, static_cast<std::size_t>(pptr() - next));
        if (written >= 0) {
            next += written;
        } else if (errno != EINTR) {
            error_ = errno;
        }
    }
    setp(buffer_.data(), buffer_.data() + buffer_.size());
    return error_ == 0;
}

DescriptorOutput::int_type DescriptorOutput::overflow(int_type c) {
    if (!drain()) return traits_type::eof();
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    *pptr() = traits_type::to_char_type(c);
    pbump(1);
    return c;
}

int DescriptorOutput::sync() { return drain() ? 0 : -1; }

}  // namespace vantor_tool
