# Run by CTest after the tests of tests_net_layer are discovered: each gets a
# range of its own, above the ranges tests/hal hands out.
set(torvane_net_port 24000)
foreach(torvane_net_test IN LISTS tests_net_layer_TESTS)
  set_tests_properties("${torvane_net_test}" PROPERTIES ENVIRONMENT "TORVANE_NET_PORT=${torvane_net_port}")
  math(EXPR torvane_net_port "${torvane_net_port} + 8")
endforeach()
