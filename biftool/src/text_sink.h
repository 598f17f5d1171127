#pragma once
// Where the tool's text goes: a C stream (standard output or error) or, in the tests, a string.
// A few direct calls instead of iostreams, which would triple the size of biftool.exe.
#include <cstdio>
#include <string>
#include <string_view>
#include <type_traits>

namespace bif {

class TextSink {
public:
    explicit TextSink(std::FILE* file) : file_(file) {}
    explicit TextSink(std::string& text) : text_(&text) {}

    TextSink& operator<<(std::string_view s)
    {
        if (text_)
            text_->append(s);
        else
            std::fwrite(s.data(), 1, s.size(), file_);
        return *this;
    }
    TextSink& operator<<(const char* s) { return *this << std::string_view(s); }
    TextSink& operator<<(const std::string& s) { return *this << std::string_view(s); }
    TextSink& operator<<(char c) { return *this << std::string_view(&c, 1); }
    template <typename N, typename = std::enable_if_t<std::is_integral_v<N>>>
    TextSink& operator<<(N n)
    {
        return *this << std::to_string(n);
    }
    void flush()
    {
        if (file_)
            std::fflush(file_);
    }

private:
    std::FILE* file_ = nullptr;
    std::string* text_ = nullptr;
};

} // namespace bif
