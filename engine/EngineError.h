#pragma once
// The one exception type of the database engine layer. It carries the error number and the
// description that the rest of the program tests and shows, as the old engine reported them.

#include <QString>
#include <stdexcept>

namespace engine {

namespace err {
constexpr long TableNotFound = -2147217865;  // 80040E37
constexpr long CommandError = -2147217900;   // 80040E14: table exists, syntax error
constexpr long GeneralFailure = -2147467259; // 80004005: damaged, not a database, key
constexpr long FieldTooSmall = -2147217887;  // 80040E21: value does not fit the column
constexpr long MissingParameter = -2147217904; // 80040E10: unknown name in a statement
constexpr long ReadOnly = 3251;              // operation not allowed on a read-only recordset
constexpr long DeletedRow = -2147217885;     // 80040E23: the row was deleted
constexpr long NoCurrentRecord = 3021;
constexpr long ItemNotFound = 3265;
constexpr long PropertyNotFound = 3270;
constexpr long PermissionDenied = 70;         // no rights, read-only, busy or locked file
constexpr long FileAccess = 75;               // a file could not be copied or moved
constexpr long FileNotFound = 53;
constexpr long BadFileFormat = -2147467259; // XML row-set files that cannot be read
} // namespace err

// What an error says about the database file itself, whatever its number: a file that another
// process holds or that cannot be reached is busy and must be left alone; a file that is no
// database or whose pages are damaged is corrupt and may be repaired.
enum class FileFault { None, Busy, Corrupt };

class EngineError : public std::runtime_error {
public:
    EngineError(long number, const QString& description, FileFault fault = FileFault::None)
        : std::runtime_error(description.toStdString()), number_(number),
          description_(description), fault_(fault) {}
    long number() const noexcept { return number_; }
    const QString& description() const noexcept { return description_; }
    FileFault fault() const noexcept { return fault_; }

private:
    long number_;
    QString description_;
    FileFault fault_;
};

} // namespace engine
