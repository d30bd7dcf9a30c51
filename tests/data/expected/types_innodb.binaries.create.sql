CREATE TABLE `binaries` (
  `id` int(11) NOT NULL,
  `bn` binary(4) DEFAULT NULL,
  `bn_nn` binary(4) NOT NULL,
  `vb` varbinary(20) DEFAULT NULL,
  `vb_nn` varbinary(20) NOT NULL,
  `vb300` varbinary(300) DEFAULT NULL,
  PRIMARY KEY (`id`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_general_ci
;
