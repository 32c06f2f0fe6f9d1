#include "collada/ColladaPath.h"

#include <vector>

namespace libkub {

namespace {

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// "C:/..." or "C:" alone: a Windows drive path, which no base folder can be put before.
bool isDrivePath(std::string_view path)
{
    const bool letter =
        path.size() >= 2 && ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
    return letter && path[1] == ':' && (path.size() == 2 || path[2] == '/');
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// File URIs escape spaces and other characters as %XX.
std::string percentDecode(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            const int high = hexValue(text[i + 1]);
            const int low = hexValue(text[i + 2]);
            if (high >= 0 && low >= 0 && (high != 0 || low != 0)) {
                out.push_back(static_cast<char>(high * 16 + low));
                i += 2;
                continue;
            }
        }
        out.push_back(text[i]);
    }
    return out;
}

} // namespace

std::string convertFileReference(std::string_view text)
{
    std::string path(text);
    for (char& c : path) {
        if (c == '\\') {
            c = '/';
        }
    }
    constexpr std::string_view scheme = "file://";
    if (path.starts_with(scheme)) {
        if (path.size() > 10 && path[7] == '/' && (path[9] == ':' || path[9] == '|')) {
            // file:///C:/dir/x.png and file:///C|/dir/x.png name a drive path.
            path.erase(0, 8);
            if (path[1] == '|') {
                path[1] = ':';
            }
            return percentDecode(path);
        }
        // file:///home/x.png and file://localhost/home/x.png name an absolute path; other hosts
        // keep their name as the first folder.
        std::string_view rest = std::string_view(path).substr(scheme.size());
        if (rest.starts_with("localhost/")) {
            rest.remove_prefix(9);
        }
        if (rest.starts_with("/")) {
            return percentDecode(rest);
        }
        return percentDecode(std::string("//") + std::string(rest));
    }
    for (char& c : path) {
        if (c == '|') {
            c = ':';
        }
    }
    return path;
}

std::string resolvePath(std::string_view baseFolder, std::string_view path)
{
    if (path.empty()) {
        return {};
    }
    std::string joined;
    if (path.front() == '/' || isDrivePath(path)) {
        joined = path;
    } else {
        joined.reserve(baseFolder.size() + 1 + path.size());
        joined = baseFolder;
        joined += '/';
        joined += path;
    }

    // Fold the segments; ".." never climbs above the root or the drive.
    std::string root;
    std::string_view rest = joined;
    if (isDrivePath(rest)) {
        root = std::string(rest.substr(0, 2)) + "/";
        rest.remove_prefix(2);
    } else if (rest.starts_with("/")) {
        root = "/";
    }
    std::vector<std::string_view> segments;
    std::size_t start = 0;
    while (start <= rest.size()) {
        std::size_t slash = rest.find('/', start);
        if (slash == std::string_view::npos) {
            slash = rest.size();
        }
        const std::string_view segment = rest.substr(start, slash - start);
        if (segment == "..") {
            if (!segments.empty() && segments.back() != "..") {
                segments.pop_back();
            } else if (root.empty()) {
                segments.push_back(segment);
            }
        } else if (!segment.empty() && segment != ".") {
            segments.push_back(segment);
        }
        start = slash + 1;
    }
    std::string result = root;
    for (std::size_t i = 0; i < segments.size(); ++i) {
        if (i > 0) {
            result += '/';
        }
        result += segments[i];
    }
    if (result.empty()) {
        result = ".";
    }
    return result;
}

std::string resolveFileReference(std::string_view baseFolder, std::string_view text)
{
    while (!text.empty() && isSpace(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isSpace(text.back())) {
        text.remove_suffix(1);
    }
    return resolvePath(baseFolder, convertFileReference(text));
}

} // namespace libkub
