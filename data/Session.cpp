#include "data/Session.h"

#include "engine/EngineError.h"
#include "platform/ErrorReporter.h"

namespace data {

long errorNumber(const std::exception& error) {
    if (const auto* e = dynamic_cast<const engine::EngineError*>(&error))
        return e->number();
    return engine::err::GeneralFailure;
}

QString errorDescription(const std::exception& error) {
    if (const auto* e = dynamic_cast<const engine::EngineError*>(&error))
        return e->description();
    return QString::fromLocal8Bit(error.what());
}

void report(Session& session, const std::exception& error, const QString& procedure) {
    platform::reportError(session.prompts(), errorNumber(error), errorDescription(error),
                          procedure);
}

} // namespace data
