#pragma once
// The text of a block of duties, as it goes to the clipboard and into a saved-duty file (".tns"):
// a header line "Zeile", "Spalte" and the duty table's field names, then one line per cell of
// the block, column by column, with the column and row offset and, when the cell holds a duty,
// every field value of the duty. Values are separated and ended by tabs, lines by CR LF, so a
// spreadsheet shows the block as a table.
//
// Values are written so that they read back as the same duty: dates "dd.MM.yyyy", times
// "HH:mm:ss" (an end after midnight carries its day: "31.12.1899 06:00:00"), numbers in their
// shortest exact form with the locale's decimal separator, booleans "Wahr"/"Falsch". Reading
// accepts either decimal separator and CR LF or LF line breaks, so a block written under another
// German locale setting, or a file saved by an editor with bare line feeds, reads the same.

#include "engine/Recordset.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <optional>
#include <vector>

namespace roster {

inline const QString BlockLineBreak = QStringLiteral("\r\n");
// A block text or file larger than this is not one of ours (a whole year of two hundred
// employees is far below it).
constexpr qsizetype MaxBlockTextSize = 32 * 1024 * 1024;

// The header line of a duty table with these fields (without its line break).
QString blockHeader(const QStringList& fieldNames);
// The header line of the live duty recordset.
QString blockHeader(const engine::Recordset& duties);

// A stored value (day number, 0/1, number, text; null) of a field of this kind as block text.
// Tabs and line breaks inside a text become blanks: they would break the line apart.
QString blockValueText(engine::FieldKind kind, const QVariant& stored);

// Writes the values of a whole block as blockValueText does, looking the locale's decimal
// separator up once.
class BlockValueWriter {
public:
    BlockValueWriter();
    QString text(engine::FieldKind kind, const QVariant& stored) const;

private:
    QString decimalPoint_;
};
// The stored value of a block text for a field of this kind (null for the empty text); no value
// when the text is not one of that kind.
std::optional<QVariant> blockValue(engine::FieldKind kind, const QString& text);

// The stored value of a block text for this field, as readBlockText reads it: no value when the
// text is not of the field's kind or holds a value the program never stores.
std::optional<QVariant> blockFieldValue(const engine::FieldInfo& field, const QString& text);

// One line of a block: the offsets from the block's first column and row, and the values of the
// duty in the order of the fields (empty when the cell held no duty).
struct BlockLine {
    int colOffset = 0;
    int rowOffset = 0;
    std::vector<QVariant> values;
    bool hasDuty() const { return !values.empty(); }
};

// true when the text's first line is the header of these fields (the format check).
bool hasBlockHeader(const QString& text, const QString& header);
// The lines of a block text; no value when the header differs or any line is not in the format
// (a wrong number of values, a value that does not fit its field, a negative offset, a text
// larger than MaxBlockTextSize) or holds a value the program never stores (hours beyond a
// month's 744, a colour beyond 0xFFFFFF, a start or end that is no time of day, a text with
// control characters or wider than its column). A value in quotes, as a spreadsheet writes
// it, is read without them. A line whose DienstNR is empty carries no duty.
std::optional<std::vector<BlockLine>> readBlockText(const QString& text,
                                                    const std::vector<engine::FieldInfo>& fields);

// The content of a saved-duty file: the block text and one more line break.
QByteArray blockFileContent(const QString& blockText);
// The block text of a saved-duty file: UTF-8 (or, failing that, Latin-1, as older files are
// written), with its final line break (CR LF or LF) removed; no value for a file larger than
// MaxBlockTextSize.
std::optional<QString> blockTextOfFile(const QByteArray& content);

} // namespace roster
