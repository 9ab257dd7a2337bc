// Removal of what the installer put on the system for one product: its device nodes (composite device,
// numbered interfaces, storage device), the OEM copies of its .inf files with their .Pnf twins (through
// Windows where it can, so that the driver store's copy goes too), and its two driver files. Also the two
// device removals other steps use: the CD-ROM / mass-storage loop of the install worker and the stale-INF
// removal of the update worker. Every outcome is logged.
#pragma once

#include "removal_decisions.h"

#include "common/newer_api.h"

#include <windows.h>
#include <setupapi.h>

#include <string>
#include <vector>

// Device-list flags: every node, plugged in or not; and the present ones only.
constexpr DWORD kAllDevices = DIGCF_ALLCLASSES;
constexpr DWORD kPresentDevices = DIGCF_PRESENT | DIGCF_ALLCLASSES;

// Result of uninstall_for_specify_pid and UninstallDrivers when one product's removal failed.
constexpr int kResultRemovalFailed = 20006;

// Result of UninstallDrivers when a product section of the list cannot be read or holds a value the
// profile reader refuses: nothing was removed.
constexpr int kResultUnusableProfile = -1;

// Removes the drivers of every product that key_UnInstall_pid_list of {ModuleDir}drvcfg.ini lists, in
// order, once every product's section has been read and checked. 0 done (also when there is no list),
// kResultOldWindows, kResultUnusableProfile, or kResultRemovalFailed. What it could not take away is in
// RemovalLeftovers.
int UninstallDrivers();
// One product, its profile loaded: resident setting off, interface nodes, OEM .inf files, driver files.
// 0 or kResultRemovalFailed.
int uninstall_for_specify_pid();
// The composite device and the storage device of the loaded profile. 0, or -1 for an incomplete profile.
int RemoveCompositeDevice(DWORD flags);
// The interface nodes &mi_00 ... of the loaded profile, except those carrying exceptCompatId. 1 all
// removed, 0 a failure (or an incomplete profile).
int RemoveInterfaceDevices(DWORD flags, const char* exceptCompatId);
// Removes the nodes with id among their hardware IDs (their list lowered), when they carry mustHaveCompatId
// (null: any) and do not carry exceptCompatId (null: none). 0 done, 1 the device list cannot be had, 2 a
// removal failed.
int RemoveDevicesByHwId(const char* id, const char* mustHaveCompatId, DWORD flags,
                        const char* exceptCompatId);
// SetupUninstallOEMInfA's form; GetDeviceInstallApi() holds Windows' own, null where Windows lacks it.
using OemInfUninstaller = decltype(DeviceInstallApi::SetupUninstallOEMInfA);
// Removes the OEM copy {windows}\Inf\name (a file name, as Windows' uninstall takes it) with its .Pnf:
// through uninstall where given, its files deleted as plain files where it is null or fails (the failure
// logged with its code). Each file's outcome is logged; a file Windows removed counts as removed.
void RemoveOemInfCopy(const char* windows, const char* name, OemInfUninstaller uninstall);
// Removes every {WinDir}\inf\oem*.inf (and its .Pnf) naming one of the loaded profile's interface IDs as a
// whole ID. False for an incomplete profile or an unsearchable inf folder. A copy that stays after its
// deletion, and one that cannot be read (it may be the product's), go to RemovalLeftovers.
bool RemoveOemInfFiles();
// Removes every {WinDir}\inf\oem*.inf (and its .Pnf) naming hwid as a whole ID. False only when the inf
// folder cannot be searched.
bool RemoveOemInfByHwId(const char* hwid);
// Deletes the profile's two driver files from {WinDir}\system32\drivers. A failure is logged; a file
// still there after it goes to RemovalLeftovers (a file that was never there does not). A file of Windows'
// own (windows_own_files.h) stays, with its line, and is no leftover; so does any such file of an OEM copy.
bool RemoveSysFiles();
// The loaded profile's driver files are among the names this run asks Windows' INFs about: one reading of
// them answers every question of the run.
void ExpectProfileDriverQuestions();
// What the removals since the last ForgetRemovalLeftovers could not take away or could not judge, as the
// log names them ("C:\windows\Inf\oem8.inf", "C:\windows\Inf\oem9.inf (unreadable)", "the device ...").
const std::vector<std::string>& RemovalLeftovers();
void ForgetRemovalLeftovers();
// When the removals left something: logs it and makes it the run's step (ComposeLeftoversStep); true then.
bool ReachLeftoversStep();
// Removes the present CD-ROM node, then the present mass-storage node, each in up to 12 attempts 5 s apart.
// 1 both gone, 0 otherwise.
int RemoveCdromAndMassStorage();
