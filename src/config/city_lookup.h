#pragma once
// The two city lookups: the city id service ("/ip/cityid", JSON reply with "data") and
// the city information service ("cityinfo", scrambled request and reply).
#include <windows.h>

#include <string>
#include <vector>

namespace kbase {

// The product's account record; only the uid is used here. A missing key leaves every
// field empty or 0.
struct ProductAccount {
  std::wstring uid;  // taken only when exactly 32 characters long
  DWORD time = 0;
  std::wstring desc;
  DWORD user_type = 0;
};
ProductAccount ReadProductAccount();

// The city id text; empty when the request or the reply fails.
std::wstring LookupCityId();

// The id that goes into a city information request: the stored "idex" value, else a
// fresh install id in lower case (not stored). Empty when neither is available.
std::string CityInfoRequestId();

// True with the reply text when an endpoint answered with a valid, non-refusing reply.
// A refusal ("1#", "2#") fails but still hands its text back.
bool LookupCityInfo(std::wstring* reply);

// Tests serve the services from ports of their own; empty texts restore the build's hosts.
void SetCityIdHostForTesting(const std::string& host);
void SetCityInfoEndpointsForTesting(const std::vector<std::string>& endpoints);

}  // namespace kbase
