#include "ui/TextFile.h"

#include "ui/UserError.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace linvar {

namespace {

void writeAll(int fd, const std::string& data) {
    size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw UserError::fromErrno(errno);
        }
        done += static_cast<size_t>(n);
    }
}

std::string joined(const std::vector<std::string>& lines) {
    std::string data;
    for (const auto& line : lines) {
        data += line;
        data += "\r\n";
    }
    return data;
}

} // namespace

namespace TextFile {

std::optional<std::vector<std::string>> readLines(const std::filesystem::path& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT)
            return std::nullopt;
        throw UserError::fromErrno(errno);
    }
    std::string data;
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            const int err = errno;
            ::close(fd);
            throw UserError::fromErrno(err);
        }
        if (n == 0)
            break;
        data.append(buf, static_cast<size_t>(n));
    }
    ::close(fd);

    std::vector<std::string> lines;
    size_t start = 0;
    while (start < data.size()) {
        size_t end = data.find('\n', start);
        if (end == std::string::npos)
            end = data.size();
        std::string line = data.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

void replace(const std::filesystem::path& requested, const std::vector<std::string>& lines) {
    // A name that is a symbolic link saves through to the file it names, and a file the
    // operator made read-only stays as it is (also for a user the system lets write it).
    std::filesystem::path path = requested;
    std::error_code ec;
    if (std::filesystem::is_symlink(requested, ec)) {
        path = std::filesystem::weakly_canonical(requested, ec);
        if (ec)
            throw UserError::fromErrno(ec.value());
    }
    mode_t mode = 0644;
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) {
        if (!S_ISREG(st.st_mode))
            throw UserError::fromErrno(EISDIR);
        if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || ::access(path.c_str(), W_OK) != 0)
            throw UserError::fromErrno(EACCES);
        mode = st.st_mode & 07777;
    }
    std::filesystem::path temp = path;
    temp += ".tmp";
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        throw UserError::fromErrno(errno);
    try {
        if (::fchmod(fd, mode) != 0)
            throw UserError::fromErrno(errno);
        writeAll(fd, joined(lines));
        if (::fsync(fd) != 0)
            throw UserError::fromErrno(errno);
    } catch (...) {
        ::close(fd);
        ::unlink(temp.c_str());
        throw;
    }
    if (::close(fd) != 0) {
        const int err = errno;
        ::unlink(temp.c_str());
        throw UserError::fromErrno(err);
    }
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        const int err = errno;
        ::unlink(temp.c_str());
        throw UserError::fromErrno(err);
    }
}

void append(const std::filesystem::path& path, const std::vector<std::string>& lines) {
    AppendFile file;
    file.open(path);
    for (const auto& line : lines)
        file.writeLine(line);
    file.close();
}

bool exists(const std::filesystem::path& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

} // namespace TextFile

AppendFile::~AppendFile() {
    if (fd_ >= 0)
        ::close(fd_);
}

void AppendFile::open(const std::filesystem::path& path) {
    close();
    fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd_ < 0)
        throw UserError::fromErrno(errno);
}

void AppendFile::writeLine(const std::string& line) {
    if (fd_ < 0)
        throw UserError::fromErrno(EBADF);
    writeAll(fd_, line + "\r\n");
}

void AppendFile::close() {
    if (fd_ < 0)
        return;
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0)
        throw UserError::fromErrno(errno);
}

std::string CsvField(const std::string& s) {
    if (s.find_first_of(",\"\r\n") == std::string::npos)
        return s;
    std::string out = "\"";
    for (char c : s) {
        if (c == '"')
            out += '"';
        out += c;
    }
    return out + "\"";
}

std::optional<std::vector<std::string>> CsvFields(const std::string& line) {
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
                fields.back() += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                fields.back() += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    }
    if (quoted)
        return std::nullopt;
    return fields;
}

} // namespace linvar
