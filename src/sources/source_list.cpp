#include "sources/source_list.h"

#include "sources/football/football_source.h"
#include "sources/news/news_source.h"
#include "sources/spotify/spotify_source.h"
#include "sources/weather/weather_source.h"

namespace ribbex {

SourceList makeSources(const SourceServices &services)
{
    SourceList sources;
    sources.push_back(std::make_unique<FootballSource>(services));
    sources.push_back(std::make_unique<NewsSource>(services));
    sources.push_back(std::make_unique<SpotifySource>(services));
    sources.push_back(std::make_unique<WeatherSource>(services));
    return sources;
}

std::vector<LiveSource *> sourcePointers(const SourceList &sources)
{
    std::vector<LiveSource *> pointers;
    for (const auto &source : sources)
        pointers.push_back(source.get());
    return pointers;
}

} // namespace ribbex
