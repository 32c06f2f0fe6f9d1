#include "collada/ColladaDocument.h"

#include <libxml/parser.h>
#include <libxml/xmlerror.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

#include "collada/ColladaPath.h"
#include "collada/ColladaReader.h"

namespace libkub {

namespace {

// Largest document libxml2 takes in one buffer (its size is an int).
constexpr std::size_t maxDocumentBytes = INT_MAX;

// Reads a whole file; false when it cannot be opened or read, or is too large.
enum class ReadResult { Ok, Unreadable, TooLarge };

// The bytes of a file, in a block that is never zero-filled first (they are read over at once).
struct FileBytes {
    std::unique_ptr<char[]> data;
    std::size_t capacity = 0;
    std::size_t size = 0;

    void reserve(std::size_t wanted)
    {
        auto grown = std::make_unique_for_overwrite<char[]>(wanted);
        if (size > 0) {
            std::memcpy(grown.get(), data.get(), size);
        }
        data = std::move(grown);
        capacity = wanted;
    }
};

ReadResult readFile(const std::string& path, FileBytes& content)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return ReadResult::Unreadable;
    }
    ReadResult result = ReadResult::Ok;
    // The file's size, when it has one, sizes the block once, and the bytes are read straight into
    // it (no staging buffer, no regrowth); whatever the size turns out to be, reading goes on until
    // the end.
    constexpr std::size_t step = 1 << 16;
    std::size_t expected = step;
    if (std::fseek(file, 0, SEEK_END) == 0) {
        const long size = std::ftell(file);
        if (size > 0) {
            expected = std::min<std::size_t>(static_cast<std::size_t>(size), maxDocumentBytes) + 1;
        }
        std::rewind(file);
    }
    content.reserve(expected);
    while (true) {
        if (content.capacity - content.size == 0) {
            if (content.capacity > maxDocumentBytes) {
                result = ReadResult::TooLarge;
                break;
            }
            content.reserve(content.capacity * 2);
        }
        const std::size_t wanted = content.capacity - content.size;
        const std::size_t got = std::fread(content.data.get() + content.size, 1, wanted, file);
        content.size += got;
        if (got < wanted) {
            if (std::ferror(file)) {
                result = ReadResult::Unreadable;
            }
            break;
        }
    }
    if (result == ReadResult::Ok && content.size > maxDocumentBytes) {
        result = ReadResult::TooLarge;
    }
    std::fclose(file);
    return result;
}

// Keeps libxml2 from printing while a document is parsed: its messages about a broken document
// (encoding and I/O errors included) become the reader's own diagnostic instead.
class QuietXmlErrors {
  public:
    QuietXmlErrors() : previous_(xmlStructuredError), previousContext_(xmlStructuredErrorContext)
    {
        xmlSetStructuredErrorFunc(nullptr, [](void*, xmlErrorPtr) {});
    }
    ~QuietXmlErrors() { xmlSetStructuredErrorFunc(previousContext_, previous_); }
    QuietXmlErrors(const QuietXmlErrors&) = delete;
    QuietXmlErrors& operator=(const QuietXmlErrors&) = delete;

  private:
    xmlStructuredErrorFunc previous_;
    void* previousContext_;
};

} // namespace

ColladaDocument::ColladaDocument() = default;
ColladaDocument::~ColladaDocument() = default;

int ColladaDocument::xmlOptions()
{
    // No network access, no entity substitution; big lines so that line numbers stay right past
    // 65535; huge so that a single large float_array (over 10 MB of text) still reads.
    return XML_PARSE_NONET | XML_PARSE_BIG_LINES | XML_PARSE_HUGE | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;
}

void ColladaDocument::addHandler(ColladaDiagnosticHandler handler)
{
    handlers_.push_back(std::move(handler));
}

const ColladaEntity* ColladaDocument::findById(std::string_view id) const
{
    const auto found = index_.find(std::string(id));
    return found == index_.end() ? nullptr : found->second;
}

std::size_t ColladaDocument::errorCount() const
{
    std::size_t errors = 0;
    for (const ColladaDiagnostic& diagnostic : diagnostics_) {
        if (diagnostic.level == DiagnosticLevel::Error) {
            ++errors;
        }
    }
    return errors;
}

void ColladaDocument::clear()
{
    version_ = "1.4.1";
    filePath_.clear();
    baseFolder_.clear();
    asset_ = ColladaAsset();
    index_.clear();
    nextSuffix_.clear();
    materials_.clear();
    effects_.clear();
    images_.clear();
    geometries_.clear();
    sceneUrl_.clear();
    extras_.clear();
    diagnostics_.clear();
}

void ColladaDocument::report(DiagnosticLevel level, ColladaCode code, std::string message, long line)
{
    diagnostics_.push_back(ColladaDiagnostic{level, code, std::move(message), line});
    for (const ColladaDiagnosticHandler& handler : handlers_) {
        handler(diagnostics_.back());
    }
}

void ColladaDocument::registerEntity(ColladaEntity& entity)
{
    const std::string base = entity.id.empty() ? std::string("unknown_object") : entity.id;
    if (index_.emplace(base, &entity).second) {
        entity.id = base;
        return;
    }
    unsigned& next = nextSuffix_[base];
    if (next < 2) {
        next = 2;
    }
    std::string candidate;
    do {
        candidate = base + "_" + std::to_string(next++);
    } while (index_.contains(candidate));
    entity.id = candidate;
    index_.emplace(candidate, &entity);
}

bool ColladaDocument::loadFromFile(const std::string& path)
{
    clear();
    std::error_code error;
    std::filesystem::path absolute = std::filesystem::absolute(path, error);
    if (error) {
        absolute = path;
    }
    filePath_ = resolvePath("", absolute.generic_string());
    baseFolder_ = resolvePath("", absolute.parent_path().generic_string());

    FileBytes content;
    switch (readFile(path, content)) {
    case ReadResult::Ok:
        break;
    case ReadResult::Unreadable:
        report(DiagnosticLevel::Error, ColladaCode::FileNotReadable, "cannot read " + path, 0);
        return false;
    case ReadResult::TooLarge:
        report(DiagnosticLevel::Error, ColladaCode::FileTooLarge, path + " is larger than 2 GB", 0);
        return false;
    }
    return parse(std::string_view(content.data.get(), content.size));
}

bool ColladaDocument::loadFromMemory(std::string_view xml, const std::string& baseFolder)
{
    clear();
    std::error_code error;
    std::filesystem::path absolute = std::filesystem::absolute(baseFolder.empty() ? "." : baseFolder, error);
    baseFolder_ = resolvePath("", error ? baseFolder : absolute.generic_string());
    return parse(xml);
}

bool ColladaDocument::parse(std::string_view xml)
{
    if (xml.size() > maxDocumentBytes) {
        report(DiagnosticLevel::Error, ColladaCode::FileTooLarge, "document is larger than 2 GB", 0);
        return false;
    }
    const QuietXmlErrors quiet;
    xmlParserCtxtPtr context = xmlNewParserCtxt();
    if (context == nullptr) {
        report(DiagnosticLevel::Error, ColladaCode::NotWellFormed, "out of memory for the XML parser", 0);
        return false;
    }
    // A document that declares its own entities is refused: no exporter writes them, and they are
    // the classic way to make a few bytes expand without bound in attribute values.
    bool declaresEntities = false;
    context->_private = &declaresEntities;
    context->sax->entityDecl = [](void* user, const xmlChar*, int, const xmlChar*, const xmlChar*, xmlChar*) {
        auto* parser = static_cast<xmlParserCtxtPtr>(user);
        *static_cast<bool*>(parser->_private) = true;
        xmlStopParser(parser);
    };
    const std::string url = filePath_.empty() ? std::string("memory.dae") : filePath_;
    xmlDocPtr tree = xmlCtxtReadMemory(context, xml.data(), static_cast<int>(xml.size()), url.c_str(),
                                       nullptr, xmlOptions());
    if (declaresEntities) {
        const long line = context->input != nullptr ? context->input->line : 0;
        xmlFreeParserCtxt(context);
        xmlFreeDoc(tree);
        report(DiagnosticLevel::Error, ColladaCode::EntityDeclared,
               "the document declares entities, which are not read", line);
        return false;
    }
    if (tree == nullptr) {
        std::string message = "not well-formed XML";
        long line = 0;
        if (const xmlError* last = xmlCtxtGetLastError(context);
            last != nullptr && last->message != nullptr) {
            // One line: libxml2 puts the offending bytes on a line of their own.
            std::string text = last->message;
            while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) {
                text.pop_back();
            }
            std::replace(text.begin(), text.end(), '\n', ' ');
            message += ": " + text;
            line = last->line;
        }
        xmlFreeParserCtxt(context);
        report(DiagnosticLevel::Error, ColladaCode::NotWellFormed, message, line);
        return false;
    }
    xmlFreeParserCtxt(context);

    const xmlNode* root = xmlDocGetRootElement(tree);
    bool read = false;
    if (root == nullptr || root->name == nullptr ||
        std::string_view(reinterpret_cast<const char*>(root->name)) != "COLLADA") {
        report(DiagnosticLevel::Error, ColladaCode::NotCollada, "the root element is not <COLLADA>",
               root != nullptr ? xmlGetLineNo(root) : 0);
    } else {
        ColladaReader reader(*this, xml.size());
        reader.read(root);
        read = true;
    }
    xmlFreeDoc(tree);
    return read && errorCount() == 0;
}

} // namespace libkub
