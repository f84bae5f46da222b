#pragma once

#include <string>
#include <string_view>

namespace vellumax::test {

// A fresh folder under /tmp, removed with everything in it at the end of the
// test. Open to every user, so that a child running unprivileged can reach
// the files the test puts there.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    std::string file(std::string_view name) const { return path_ + "/" + std::string(name); }

private:
    std::string path_;
};

void writeBytes(const std::string& path, std::string_view bytes);
std::string readBytes(const std::string& path);
bool fileExists(const std::string& path);

} // namespace vellumax::test
