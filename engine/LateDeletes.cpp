// LateDeletes; see LateDeletes.h.
#include "engine/LateDeletes.h"

#include <algorithm>

void LateDeletes::Add(const std::string& path, unsigned long nowMs)
{
    if (!Holds(path))
        m_files.push_back(Waiting{path, nowMs});
}

void LateDeletes::RetryDue(unsigned long nowMs, const std::function<bool(const std::string&)>& remove)
{
    // Tick counts wrap after 49 days: the difference, not the values, is compared.
    m_files.erase(std::remove_if(m_files.begin(), m_files.end(),
                                 [&](const Waiting& file) {
                                     return remove(file.path) || nowMs - file.sinceMs >= kGiveUpAfterMs;
                                 }),
                  m_files.end());
}

bool LateDeletes::Holds(const std::string& path) const
{
    return std::any_of(m_files.begin(), m_files.end(), [&](const Waiting& file) { return file.path == path; });
}
