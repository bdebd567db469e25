#include "link/reachabilityprobe.h"

#include "link/icmpprobe.h"

namespace {

std::function<std::unique_ptr<ReachabilityProbe>()> &factory()
{
    static std::function<std::unique_ptr<ReachabilityProbe>()> instance;
    return instance;
}

} // namespace

ReachabilityProbe::~ReachabilityProbe() = default;

std::unique_ptr<ReachabilityProbe> ReachabilityProbe::create()
{
    if (factory())
        return factory()();
    return std::make_unique<IcmpProbe>();
}

void ReachabilityProbe::setFactory(std::function<std::unique_ptr<ReachabilityProbe>()> f)
{
    factory() = std::move(f);
}
