#pragma once

#include "FaultSchedule.h"
#include "PageHolds.h"
#include "SampleSite.h"

#include <chrono>
#include <memory>
#include <string>

namespace httplib {
struct Request;
} // namespace httplib

namespace skyglance::catalogue {

struct Reply;

// What a site reply is, for the faults: only pictures and pages are ever
// spoilt; the version file, the collections package and the catalogue
// replies are affected by `dead` alone.
enum class SiteReplyKind { Picture, Page, Other };

SiteReplyKind siteReplyKind(const std::string& contentType);

struct FaultContext {
    FaultKind kind = FaultKind::None;
    std::chrono::steady_clock::time_point windowEnd; // when the window closes
    std::string siteUrl;                             // e.g. http://127.0.0.1:8080
    PageHolds* holds = nullptr;                      // slots for stalled transfers
};

// Whether the fault in force changes a reply of this kind.
bool faultSpoils(FaultKind kind, SiteReplyKind reply);

// Puts the spoilt version of `real` (the reply that would have gone out)
// into `reply`. Call only when faultSpoils() said so.
void answerWithFault(const FaultContext& fault, const httplib::Request& req,
                     std::shared_ptr<const Resource> real, Reply& reply);

// The size of an oversize reply: far beyond any picture a client should take.
inline constexpr std::size_t kOversizeBytes = 64u * 1024u * 1024u;

} // namespace skyglance::catalogue
