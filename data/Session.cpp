#include "data/Session.h"

#include "engine/EngineError.h"
#include "platform/ErrorReporter.h"

namespace data {

long errorNumber(const std::exception& error) {
    if (const auto* e = dynamic_cast<const engine::EngineError*>(&error))
        return e->number();
    return engine::err::GeneralFailure;
}

void report(Session& session, const std::exception& error, const QString& procedure) {
    QString description;
    if (const auto* e = dynamic_cast<const engine::EngineError*>(&error))
        description = e->description();
    else
        description = QString::fromLocal8Bit(error.what());
    platform::reportError(session.prompts(), errorNumber(error), description, procedure);
}

} // namespace data
