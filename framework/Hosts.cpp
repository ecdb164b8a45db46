#include "framework/Hosts.h"

#include <cctype>
#include <cstring>

namespace {

struct HostKeyword
{
  const char* keyword;
  EHost host;
};

// Searched in this order: the first keyword found anywhere in the product string decides, so a
// product naming several hosts is taken for the earliest one here.
const HostKeyword kHostKeywords[] = {
  {"cubase", kHostCubase},
  {"reaper", kHostReaper},
  {"nuendo", kHostNuendo},
  {"cakewalk", kHostSonar},
  {"samplitude", kHostSamplitude},
  {"fruity", kHostFL},
  {"live", kHostLive},
  {"melodyne", kHostMelodyne},
  {"vstmanlib", kHostVSTScanner},
  {"aulab", kHostAULab},
  {"garageband", kHostGarageBand},
  {"forte", kHostForte},
  {"chainer", kHostChainer},
  {"audition", kHostAudition},
  {"orion", kHostOrion},
  {"sawstudio", kHostSAWStudio},
  {"logic", kHostLogic},
  {"digital", kHostDigitalPerformer},
  {"audiomulch", kHostAudioMulch},
  {"presonus", kHostStudioOne},
  {"vst3plugintesthost", kHostVST3TestHost},
  {"protools", kHostProTools},
  {"ardour", kHostArdour},
  {"standalone", kHostStandalone},
};

// Display names by identifier; null entries show as "Unknown".
const char* const kHostNames[] = {
  "Unknown",             // 0 unknown
  "Reaper",              // 1
  "ProTools",            // 2
  "Cubase",              // 3
  "Nuendo",              // 4
  "Sonar",               // 5
  "Vegas",               // 6
  "FLStudio",            // 7
  "Samplitude",          // 8
  "Live",                // 9
  nullptr,               // 10
  nullptr,               // 11
  nullptr,               // 12 (melodyne)
  "VSTScanner",          // 13
  "AULab",               // 14
  "Forte",               // 15
  "Chainer",             // 16
  "Audition",            // 17
  "Orion",               // 18
  nullptr,               // 19
  "SAWStudio",           // 20
  "Logic",               // 21
  "GarageBand",          // 22
  "DigitalPerformer",    // 23
  "Standalone",          // 24
  "AudioMulch",          // 25
  "StudioOne",           // 26
  "VST3PluginTestHost",  // 27
  "Ardour",              // 28
};

}  // namespace

EHost LookUpHost(const char* productString)
{
  if (!productString)
    return kHostUnknown;
  char lower[256];
  size_t n = 0;
  for (; n + 1 < sizeof(lower) && productString[n]; ++n)
    lower[n] = (char)tolower((unsigned char)productString[n]);
  lower[n] = '\0';

  for (const HostKeyword& k : kHostKeywords)
    if (strstr(lower, k.keyword))
      return k.host;
  return kHostUnknown;
}

void GetHostNameStr(EHost host, char* buffer)
{
  const int n = (int)(sizeof(kHostNames) / sizeof(kHostNames[0]));
  const char* name = (host >= 0 && host < n && kHostNames[host]) ? kHostNames[host] : "Unknown";
  strcpy(buffer, name);
}
