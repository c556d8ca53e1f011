// The section writers of the export file. Each builds its lines in memory
// (growing as needed) and appends them to the open file. A writer answers
// Nothing when the store holds nothing for it (no rule, a policy of -1, no
// filled slot) and Failed when a line could not be made or written; the
// caller ends the export on Failed.
#pragma once

#include "CExportStore.h"
#include "ExportSink.h"
#include "RecordLine.h"

enum class WriteResult { Nothing = 0, Written = 1, Failed = -1 };

class CExportWriter {
public:
    CExportWriter(const CExportStore& store, ExportSink& sink,
                  const CryptApi& crypt = LibraryCryptApi())
        : m_store(store), m_sink(sink), m_direct(store.ExportPassphrase(), crypt),
          m_sealer(m_direct) {}
    // Secret fields through sealer (ExportBatch.h seals them ahead).
    CExportWriter(const CExportStore& store, ExportSink& sink, FieldSealer& sealer)
        : m_store(store), m_sink(sink), m_direct(store.ExportPassphrase(), LibraryCryptApi()),
          m_sealer(sealer) {}
    CExportWriter(const CExportWriter&) = delete;
    CExportWriter& operator=(const CExportWriter&) = delete;

    WriteResult WriteVersionLine();
    // Kind 1: one line per control of the item, with its page's texts.
    WriteResult WriteWebFormItem(const WebPageNode& page, const WebItemNode& item);
    // Kind 2, for the policy item of type 33 to 41.
    WriteResult WritePolicy(int itemType);
    // Kind 3.
    WriteResult WriteWebFormOptions();
    // Kinds 4 and 8.
    WriteResult WriteAuthRules();
    // Kind 5, for the device item of type 81 to 85.
    WriteResult WriteAuthDevice(int itemType);
    // Kind 6: one line per control of the item; Nothing without application
    // or caption.
    WriteResult WriteApplicationItem(const CDataApl* application, const CDataCaption* caption,
                                     const CDataItem& item);
    // Kind 7.
    WriteResult WriteApplicationOptions();

private:
    RecordLine NewLine() const { return RecordLine(m_sealer); }
    WriteResult Put(const RecordLine& line);
    WriteResult Put(const std::string& bytes);
    void WebControlFields(RecordLine& line, const WebControlNode& control);

    const CExportStore& m_store;
    ExportSink& m_sink;
    DirectSealer m_direct;
    FieldSealer& m_sealer;
};

// The count field of a kind-1 line for a control.
int WebControlFieldCount(const WebControlNode& control);
