#include "app/JobRecord.h"

#include "util/Errors.h"

namespace {

using FieldPointer = CompactText JobRecord::*;

constexpr FieldPointer FieldOrder[JobRecord::FieldCount] = {
    &JobRecord::Get,
    &JobRecord::Category,
    &JobRecord::Url,
    &JobRecord::L1,
    &JobRecord::U1,
    &JobRecord::Format1,
    &JobRecord::L2,
    &JobRecord::U2,
    &JobRecord::Format2,
    &JobRecord::Prefix,
    &JobRecord::Output,
    &JobRecord::LastDate,
    &JobRecord::RunPP,
    &JobRecord::AllPP,
    &JobRecord::SepPP,
    &JobRecord::CmdPP,
};

} // namespace

CompactText &JobRecord::Field(int index)
{
    if (index < 0 || index >= FieldCount)
        throw SubscriptError();
    return this->*FieldOrder[index];
}

const CompactText &JobRecord::Field(int index) const
{
    return const_cast<JobRecord *>(this)->Field(index);
}
