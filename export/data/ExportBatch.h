// Writes a list of sections in order, sealing the secret fields of each
// batch of sections ahead on several threads when a passphrase is set. The
// file receives exactly what the writers give one by one.
#pragma once

#include "CExportWriter.h"

#include <functional>
#include <vector>

using SectionWrite = std::function<WriteResult(CExportWriter&)>;

struct BatchOutcome {
    WriteResult result = WriteResult::Nothing; // Failed at the first failed section
    size_t sectionsDone = 0;                   // sections handled before the end or failure
    size_t sealedFields = 0;
};

// progress (may be empty) is called after each section with the number done.
BatchOutcome WriteSections(const CExportStore& store, ExportSink& sink,
                           const std::vector<SectionWrite>& sections,
                           const std::function<void(size_t)>& progress = {},
                           const CryptApi& crypt = LibraryCryptApi(), unsigned threads = 0,
                           size_t batchSize = 64);
