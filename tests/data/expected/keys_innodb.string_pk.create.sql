CREATE TABLE `string_pk` (
  `code` varchar(12) NOT NULL,
  `region` char(2) NOT NULL,
  `amount` decimal(8,2) NOT NULL,
  `note` text DEFAULT NULL,
  PRIMARY KEY (`region`,`code`),
  UNIQUE KEY `uk_code` (`code`),
  KEY `k_amount` (`amount`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_general_ci
;
