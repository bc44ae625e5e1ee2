#pragma once

#include "file_signature.h"
#include "file_type_info.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

// Classifies a file by its extension and then by its leading bytes; a signature match wins.
// Every detector builds its own signature table and never changes it afterwards.
class FileTypeDetector {
public:
    // Category keyword to its rows; iterated in byte-wise key order, which detection follows.
    using SignatureTable = std::map<std::string, std::vector<FileSignature>>;
    using FormatList = std::vector<std::pair<std::string, std::string>>;   // (display name, extensions)

    FileTypeDetector();

    FileTypeInfo detectFileType(const std::string& filePath) const;
    bool matchesAnySignature(const std::string& filePath, const std::vector<FileSignature>& rows) const;
    // At most one entry per category, in key order.
    std::vector<FileTypeInfo> detectAllBySignatures(const std::string& filePath) const;
    bool isReadable(const std::string& filePath) const;
    // A constructed detector is always complete.
    bool isReady() const { return true; }

    const SignatureTable& signatureTable() const { return signatures; }

    // The category of a lower-case extension with its dot, "other" when the map lacks it.
    static std::string categoryForExtension(const std::string& extension);
    static FormatList getSupportedFormats();

private:
    void initializeSignatures();

    SignatureTable signatures;
};
