#include "ExportBatch.h"

#include <algorithm>
#include <thread>

BatchOutcome WriteSections(const CExportStore& store, ExportSink& sink,
                           const std::vector<SectionWrite>& sections,
                           const std::function<void(size_t)>& progress, const CryptApi& crypt,
                           unsigned threads, size_t batchSize) {
    BatchOutcome outcome;
    if (threads == 0) threads = std::thread::hardware_concurrency();
    if (batchSize == 0) batchSize = 1;
    auto record = [&outcome](WriteResult result) {
        if (result == WriteResult::Written) outcome.result = WriteResult::Written;
        if (result == WriteResult::Failed) outcome.result = WriteResult::Failed;
    };

    if (store.ExportPassphrase().empty()) {
        CExportWriter writer(store, sink, crypt);
        for (const auto& section : sections) {
            record(section(writer));
            if (outcome.result == WriteResult::Failed) return outcome;
            ++outcome.sectionsDone;
            if (progress) progress(outcome.sectionsDone);
        }
        return outcome;
    }

    BatchSealer sealer(store.ExportPassphrase(), crypt);
    ExportSink discard = ExportSink::Discarding();
    for (size_t first = 0; first < sections.size(); first += batchSize) {
        const size_t end = std::min(sections.size(), first + batchSize);
        sealer.Restart();
        {
            CExportWriter collector(store, discard, sealer);
            for (size_t i = first; i < end; ++i)
                sections[i](collector);
        }
        sealer.SealAll(threads);
        outcome.sealedFields += sealer.Count();
        CExportWriter writer(store, sink, sealer);
        for (size_t i = first; i < end; ++i) {
            record(sections[i](writer));
            if (outcome.result == WriteResult::Failed) return outcome;
            ++outcome.sectionsDone;
            if (progress) progress(outcome.sectionsDone);
        }
    }
    return outcome;
}
