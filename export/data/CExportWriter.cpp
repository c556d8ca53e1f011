#include "CExportWriter.h"

#include "ExportFileFormat.h"

#include <algorithm>
#include <cstdio>

namespace {

std::wstring DecimalText(int64_t value) {
    return std::to_wstring(value);
}

} // namespace

int WebControlFieldCount(const WebControlNode& control) {
    switch (control.kind) {
    case D_WEB_CTRL_RADIO:
    case D_WEB_CTRL_CHECK:
    case D_WEB_CTRL_SELECT:
        return 13 + static_cast<int>(control.elements.size());
    case D_WEB_CTRL_MULTI:
        return 11;
    case D_WEB_CTRL_SUBMIT:
    case D_WEB_CTRL_IMAGE:
        return 8;
    default:
        return 10;
    }
}

WriteResult CExportWriter::Put(const RecordLine& line) {
    if (!line.Ok()) return WriteResult::Failed;
    return Put(line.Bytes());
}

WriteResult CExportWriter::Put(const std::string& bytes) {
    return m_sink.Append(bytes) ? WriteResult::Written : WriteResult::Failed;
}

WriteResult CExportWriter::WriteVersionLine() {
    char line[64];
    std::snprintf(line, sizeof line, kVersionLinePattern, kExportFormatVersion);
    return m_sink.Append(line, true) ? WriteResult::Written : WriteResult::Failed;
}

void CExportWriter::WebControlFields(RecordLine& line, const WebControlNode& control) {
    switch (control.record) {
    case WebValueRecord::Text:
        if (control.kind == D_WEB_CTRL_PSWD) {
            line.SecretText(control.VALUE, kFieldAnsiText);
        } else {
            line.Text(control.VALUE);
        }
        line.Number(control.DATALEN, RecordLine::kLast);
        break;
    case WebValueRecord::Choices:
        line.Number(control.MULTIPLE);
        line.Number(static_cast<int64_t>(control.elements.size()));
        for (const auto& element : control.elements) {
            line.Text(element.VALUE);
            line.Number(element.SELECT);
            if (control.kind == D_WEB_CTRL_SELECT) line.Text(element.TEXT);
        }
        break;
    case WebValueRecord::MultiLine: {
        line.Number(control.ROWS);
        line.Number(control.COLS);
        std::wstring text = control.TEXT;
        text.erase(std::remove(text.begin(), text.end(), L'\r'), text.end());
        line.Text(text, RecordLine::kLast);
        break;
    }
    case WebValueRecord::Button:
        line.Number(control.SELECT);
        line.Text(control.VALUE, RecordLine::kLast);
        break;
    case WebValueRecord::None:
        // No value record (an unused kind, or TYPE missing): the common fields only.
        break;
    }
}

WriteResult CExportWriter::WriteWebFormItem(const WebPageNode& page, const WebItemNode& item) {
    WriteResult result = WriteResult::Nothing;
    for (const auto& control : item.controls) {
        RecordLine line = NewLine();
        line.Number(kRecordWebFormControl);
        line.Number(0);
        line.Number(0);
        line.Number(WebControlFieldCount(*control));
        line.Text(page.TITLE);
        line.Text(page.URL);
        line.Text(page.UPDATEDATE);
        line.Text(item.NAME);
        line.Text(item.FORMNAME);
        line.Number(item.AUTOINPUT);
        line.Number(item.AUTOSEND);
        line.Number(item.INDEX);
        line.Number(control->kind);
        line.Text(control->NAME);
        WebControlFields(line, *control);
        line.End();
        if (Put(line) == WriteResult::Failed) return WriteResult::Failed;
        result = WriteResult::Written;
    }
    return result;
}

WriteResult CExportWriter::WritePolicy(int itemType) {
    if (itemType < kItemPolicyFirst || itemType > kItemPolicyLast) return WriteResult::Nothing;
    const int i = itemType - kItemPolicyFirst;
    const int32_t value = m_store.PolicyValue(i);
    if (value == -1) return WriteResult::Nothing;
    // The decimal text with its terminating zero byte.
    const std::string text = std::to_string(value);
    RecordLine line = NewLine();
    line.Number(kRecordPolicy);
    line.Number(i + 1);
    line.Number(0);
    line.Number(1);
    line.Secret(reinterpret_cast<const BYTE*>(text.c_str()), static_cast<DWORD>(text.size() + 1),
                kFieldRaw, RecordLine::kLast);
    line.End();
    return Put(line);
}

WriteResult CExportWriter::WriteWebFormOptions() {
    const WebFormOptions& o = m_store.Options();
    if (!o.present) return WriteResult::Nothing;
    RecordLine line = NewLine();
    line.Number(kRecordWebFormOptions);
    line.Number(0);
    line.Number(0);
    line.Number(o.STOPFUNC);
    line.Number(o.STOPAUTOINPUT);
    line.Number(o.SETAUTO);
    line.Number(o.CHECKSET);
    line.Number(o.ONLYPWD);
    line.Number(o.NOMULTITEXT);
    line.Number(o.HIDEPWD, RecordLine::kLast);
    line.End();
    return Put(line);
}

WriteResult CExportWriter::WriteApplicationOptions() {
    const CKeepData& keep = m_store.KeepData();
    RecordLine line = NewLine();
    line.Number(kRecordApplicationOptions);
    line.Number(0);
    line.Number(0);
    for (int selector :
         {KEEP_OPT_STOPAUTOFUNC, KEEP_OPT_STOPAUTOINPUT, KEEP_OPT_STOPASSIST, KEEP_OPT_HIDEPWD}) {
        line.Number(keep.IsCheckedOption(selector));
    }
    line.End();
    return Put(line);
}

WriteResult CExportWriter::WriteAuthRules() {
    std::string section;
    const AuthRuleRecord& rule = m_store.Rule();
    if (rule.present) {
        RecordLine line = NewLine();
        line.Number(kRecordAuthRule);
        line.Number(0);
        line.Number(0);
        line.Number(0);
        line.Secret(rule.bytes.data(), static_cast<DWORD>(rule.bytes.size()), kFieldHex);
        line.SecretText(DecimalText(rule.logonMode), kFieldText, RecordLine::kLast);
        line.End();
        if (!line.Ok()) return WriteResult::Failed;
        section += line.Bytes();
    }
    const TouchAuthRecord& touch = m_store.Touch();
    if (touch.present) {
        RecordLine line = NewLine();
        line.Number(kRecordTouchAuth);
        line.Number(0);
        line.Number(0);
        line.Number(0);
        // No comma after the authentication type: the importer reads this
        // layout, so the next field's quote follows directly.
        line.SecretText(DecimalText(touch.authType), kFieldHex, RecordLine::kNoComma);
        line.Number(touch.bitmapType);
        line.Number(touch.maskColor);
        if (!touch.passCode.empty()) {
            line.Secret(touch.passCode.data(), static_cast<DWORD>(touch.passCode.size()),
                        kFieldHex);
        } else {
            line.Empty();
        }
        line.Number(touch.bitmapLength);
        if (!touch.bitmap.empty() && touch.bitmapLength != 0 && touch.bitmapType == 256) {
            line.Secret(touch.bitmap.data(), static_cast<DWORD>(touch.bitmap.size()), kFieldBase64);
        }
        line.End();
        if (!line.Ok()) return WriteResult::Failed;
        section += line.Bytes();
    }
    if (section.empty()) return WriteResult::Nothing;
    const WriteResult result = Put(section);
    ::SecureZeroMemory(section.data(), section.size());
    return result;
}

WriteResult CExportWriter::WriteAuthDevice(int itemType) {
    if (itemType == kItemTpm) {
        const AuthInfoNode* node = m_store.FindAuthInfo(kAuthPinCache);
        if (!node || !node->present) return WriteResult::Nothing;
        const std::string text = std::to_string(node->pinCacheTime);
        RecordLine line = NewLine();
        line.Number(kRecordAuthDevice);
        line.Number(1);
        line.Number(0);
        line.Number(1);
        line.Secret(reinterpret_cast<const BYTE*>(text.data()), static_cast<DWORD>(text.size()),
                    kFieldHex);
        line.End();
        return Put(line);
    }
    if (itemType < kItemFingerprint || itemType > kItemSd) return WriteResult::Nothing;
    const int32_t kind = itemType - kItemTpm; // 1 fingerprint ... 4 SD memory card
    const AuthInfoNode* node = m_store.FindAuthInfo(kind);
    if (!node) return WriteResult::Nothing;
    WriteResult result = WriteResult::Nothing;
    for (size_t position = 0; position < node->slots.size(); ++position) {
        const AuthSlot& slot = node->slots[position];
        if (slot.length == 0 || slot.secret.empty()) continue;
        RecordLine line = NewLine();
        line.Number(kRecordAuthDevice);
        line.Number(itemType - kItemTpm + 1);
        line.Number(kind == kAuthFingerprint ? static_cast<int64_t>(position) : slot.slot);
        line.Number(1);
        line.Secret(slot.secret.data(), static_cast<DWORD>(slot.length), kFieldHex);
        if (kind != kAuthFingerprint) {
            line.SecretText(slot.deviceName, kFieldAnsiText);
            line.SecretText(slot.deviceInfo, kFieldAnsiText);
        }
        line.End();
        if (Put(line) == WriteResult::Failed) return WriteResult::Failed;
        result = WriteResult::Written;
    }
    return result;
}

WriteResult CExportWriter::WriteApplicationItem(const CDataApl* application,
                                                const CDataCaption* caption,
                                                const CDataItem& item) {
    if (!application || !caption) return WriteResult::Nothing;
    const int32_t idSum = item.ControlIdSum();
    WriteResult result = WriteResult::Nothing;
    for (const auto& control : item.controls) {
        RecordLine line = NewLine();
        line.Number(kRecordApplicationControl);
        line.Number(0);
        line.Number(0);
        line.Number(12);
        line.PlainText(application->APLNAME);
        line.PlainText(caption->CAPTION);
        line.PlainText(item.NAME.empty() ? std::wstring(L" ") : item.NAME);
        line.Number(item.AUTOINPUT);
        line.Number(item.AUTOCLICK);
        line.Number(item.CLICKPOS);
        line.Number(idSum);
        line.Number(control->TYPE);
        line.Number(control->ID);
        if (control->TYPE == 2) {
            line.SecretText(control->CAPTION, kFieldAnsiText);
        } else {
            line.PlainText(control->CAPTION);
        }
        line.Number(control->FLAG);
        line.Number(control->FLAG);
        line.End();
        if (Put(line) == WriteResult::Failed) return WriteResult::Failed;
        result = WriteResult::Written;
    }
    return result;
}
