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

// Largest document read: libxml2 counts a document's bytes in an int.
constexpr std::size_t maxDocumentBytes = INT_MAX;

} // namespace

// Where libxml2 pulls the document's bytes from, a piece at a time: an open file or a block in
// memory. Handed a whole block, libxml2 2.9 first copies all of it into a buffer of its own (and a
// file would first have been read into a block of ours): two passes over the document and twice
// its size in fresh memory, every page of it faulted in one at a time. Pulled in pieces, the bytes
// pass through one small buffer that libxml2 keeps reusing.
struct ByteSource {
    std::FILE* file = nullptr; // read from when set, otherwise `memory` is
    std::string_view memory;
    std::size_t delivered = 0;
    bool unreadable = false;
    bool tooLarge = false;

    static int read(void* context, char* buffer, int length)
    {
        auto& source = *static_cast<ByteSource*>(context);
        std::size_t got = 0;
        if (source.file != nullptr) {
            got = std::fread(buffer, 1, static_cast<std::size_t>(length), source.file);
            if (got == 0 && std::ferror(source.file)) {
                source.unreadable = true;
                return -1;
            }
        } else {
            got = std::min(static_cast<std::size_t>(length), source.memory.size() - source.delivered);
            std::memcpy(buffer, source.memory.data() + source.delivered, got);
        }
        source.delivered += got;
        if (source.delivered > maxDocumentBytes) {
            source.tooLarge = true;
            return -1;
        }
        return static_cast<int>(got);
    }
};

namespace {

// Closes a file on every way out.
struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

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

    const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (file == nullptr) {
        report(DiagnosticLevel::Error, ColladaCode::FileNotReadable, "cannot read " + path, 0);
        return false;
    }
    // A file known to be too large is refused before a byte of it is parsed; anything else that
    // passes the limit while it is read (a pipe) is stopped there.
    if (std::filesystem::is_regular_file(path, error) &&
        std::filesystem::file_size(path, error) > maxDocumentBytes && !error) {
        report(DiagnosticLevel::Error, ColladaCode::FileTooLarge, path + " is larger than 2 GB", 0);
        return false;
    }
    // libxml2 asks for about 4 KB at a time; a larger stream buffer reads the file in fewer calls.
    std::setvbuf(file.get(), nullptr, _IOFBF, std::size_t{1} << 16);
    ByteSource source;
    source.file = file.get();
    return parse(source, path);
}

bool ColladaDocument::loadFromMemory(std::string_view xml, const std::string& baseFolder)
{
    clear();
    std::error_code error;
    std::filesystem::path absolute = std::filesystem::absolute(baseFolder.empty() ? "." : baseFolder, error);
    baseFolder_ = resolvePath("", error ? baseFolder : absolute.generic_string());
    if (xml.size() > maxDocumentBytes) {
        report(DiagnosticLevel::Error, ColladaCode::FileTooLarge, "document is larger than 2 GB", 0);
        return false;
    }
    ByteSource source;
    source.memory = xml;
    return parse(source, std::string());
}

bool ColladaDocument::parse(ByteSource& source, const std::string& path)
{
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
    xmlDocPtr tree =
        xmlCtxtReadIO(context, &ByteSource::read, nullptr, &source, url.c_str(), nullptr, xmlOptions());
    if (source.unreadable || source.tooLarge) {
        xmlFreeParserCtxt(context);
        xmlFreeDoc(tree);
        if (source.unreadable) {
            report(DiagnosticLevel::Error, ColladaCode::FileNotReadable, "cannot read " + path, 0);
        } else {
            report(DiagnosticLevel::Error, ColladaCode::FileTooLarge, path + " is larger than 2 GB", 0);
        }
        return false;
    }
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
        ColladaReader reader(*this, source.delivered);
        reader.read(root);
        read = true;
    }
    xmlFreeDoc(tree);
    return read && errorCount() == 0;
}

} // namespace libkub
