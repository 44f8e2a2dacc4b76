# Run by CTest after the tests of tests_hal_net are discovered: each gets a
# range of its own (hal/net listens on 8 ports from the base).
set(torvane_net_port 20000)
foreach(torvane_net_test IN LISTS tests_hal_net_TESTS)
  set_tests_properties("${torvane_net_test}" PROPERTIES ENVIRONMENT "TORVANE_NET_PORT=${torvane_net_port}")
  math(EXPR torvane_net_port "${torvane_net_port} + 8")
endforeach()
