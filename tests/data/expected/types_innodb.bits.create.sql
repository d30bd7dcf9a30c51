CREATE TABLE `bits` (
  `id` int(11) NOT NULL,
  `b1` bit(1) DEFAULT NULL,
  `b1_nn` bit(1) NOT NULL,
  `b5` bit(5) DEFAULT NULL,
  `b5_nn` bit(5) NOT NULL,
  `b10` bit(10) DEFAULT NULL,
  `b10_nn` bit(10) NOT NULL,
  `b64` bit(64) DEFAULT NULL,
  `b64_nn` bit(64) NOT NULL,
  `b8` bit(8) DEFAULT NULL,
  `b17` bit(17) DEFAULT NULL,
  PRIMARY KEY (`id`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_general_ci
;
