#pragma once
// The members of a roster group as the exports read them: in the roster's order (positions
// above 0), with what their accounts depend on.

#include "data/DataUmgebung.h"
#include "roster/Statistics.h"

#include <QString>

#include <vector>

namespace reports {

struct GroupMember {
    roster::TargetBasis basis; // basis.maNr is the personnel number
    QString planName;
    double stdbestand = 0.0; // the opening balance
};

std::vector<GroupMember> groupMembers(data::DataUmgebung& env, int group);

} // namespace reports
