// Identifiers of the framework tests' dialog template (framework_test.rc).
#pragma once

#define IDD_FRAMEWORK_TEST 300
#define IDC_TEST_BUTTON 301
#define IDC_TEST_STATIC 302
