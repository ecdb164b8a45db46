#pragma once
// Host identification: the host's product string mapped to a host identifier.

// The host an instance runs in (stored as an int in PluginBase).
enum EHost
{
  kHostUninit = -1,  // not asked yet
  kHostUnknown = 0,
  kHostReaper = 1,
  kHostProTools = 2,
  kHostCubase = 3,
  kHostNuendo = 4,
  kHostSonar = 5,
  kHostVegas = 6,
  kHostFL = 7,
  kHostSamplitude = 8,
  kHostLive = 9,
  kHostTracktion = 10,
  kHostNTracks = 11,
  kHostMelodyne = 12,
  kHostVSTScanner = 13,
  kHostAULab = 14,
  kHostForte = 15,
  kHostChainer = 16,
  kHostAudition = 17,
  kHostOrion = 18,
  kHostBias = 19,
  kHostSAWStudio = 20,
  kHostLogic = 21,
  kHostGarageBand = 22,
  kHostDigitalPerformer = 23,
  kHostStandalone = 24,
  kHostAudioMulch = 25,
  kHostStudioOne = 26,
  kHostVST3TestHost = 27,
  kHostArdour = 28
};

// Longest display name with its terminator ("VST3PluginTestHost").
static const int kMaxHostNameLen = 19;

// The host named by a product string: its first 255 characters, lowered, are searched for the
// keywords of the host table in table order; the first keyword found anywhere decides. No keyword
// (or a null text) gives kHostUnknown.
EHost LookUpHost(const char* productString);

// Writes the host's display name into buffer (kMaxHostNameLen bytes); "Unknown" for hosts without
// a name of their own.
void GetHostNameStr(EHost host, char* buffer);
