# The window's wiring of the update service, against a manifest server on 127.0.0.1.
strata_add_ui_test(test_updatemenu "integration;gui")
