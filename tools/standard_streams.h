// The tool's ends of the shell's pipes: standard input that may have been
// closed by the caller, and standard output whose failure must be told
// apart from refused input.
#ifndef VANTOR_TOOLS_STANDARD_STREAMS_H
#define VANTOR_TOOLS_STANDARD_STREAMS_H

#include <cstddef>
#include <streambuf>
#include <vector>

namespace vantor_tool {

// Call first thing in main. When the caller closed standard input
// (`vantor dinorm <&-`), puts /dev/null in its place, so that no file the
// tool opens later takes descriptor 0 and is read as "-" by mistake, and
// remembers it so that reading "-" can say what happened.
void guardStandardInput();
bool standardInputWasClosed();

// An output buffer over a file descriptor that keeps the reason of the
// first failed write (errno), which std::cout forgets. After a failure it
// takes nothing more, so the stream sets badbit.
class DescriptorOutput : public std::streambuf {
public:
    explicit DescriptorOutput(int descriptor);
    DescriptorOutput(const DescriptorOutput&) = delete;
    DescriptorOutput& operator=(const DescriptorOutput&) = delete;

    // 0 while every write succeeded, else the errno of the first failure.
    int error() const { return error_; }

protected:
    int_type overflow(int_type c) override;
    int sync() override;

private:
    bool drain();

    int descriptor_;
    int error_ = 0;
    std::vector<char> buffer_;
};

}  // namespace vantor_tool

#endif
